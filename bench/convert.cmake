add_executable(convert_bench ${CMAKE_CURRENT_LIST_DIR}/convert_bench.cpp)
target_link_libraries(convert_bench PRIVATE tarvo_render benchmark::benchmark tarvo_warnings)
target_compile_definitions(convert_bench PRIVATE TARVO_CXX_COMPILER="${CMAKE_CXX_COMPILER}")
