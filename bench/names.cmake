add_executable(names_bench ${CMAKE_CURRENT_LIST_DIR}/names_bench.cpp)
target_link_libraries(names_bench PRIVATE tarvo_names benchmark::benchmark tarvo_warnings)
target_compile_definitions(names_bench PRIVATE TARVO_CXX_COMPILER="${CMAKE_CXX_COMPILER}")
