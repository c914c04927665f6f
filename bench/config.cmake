# The configuration-file reader: a large profile list opened and looked up, a 10 MB file opened.
add_executable(config_bench ${CMAKE_CURRENT_LIST_DIR}/config_bench.cpp)
target_link_libraries(config_bench PRIVATE tarvo_config benchmark::benchmark benchmark::benchmark_main tarvo_warnings)
