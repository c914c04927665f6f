# The name marker: any text, with and without a tree's names.
add_executable(names_fuzz ${CMAKE_CURRENT_LIST_DIR}/names_fuzz.cpp)
target_link_libraries(names_fuzz PRIVATE tarvo_names tarvo_warnings)
target_link_options(names_fuzz PRIVATE -fsanitize=fuzzer)
