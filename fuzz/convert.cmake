# The converter: any keyword text and any source, in every style.
add_executable(convert_fuzz ${CMAKE_CURRENT_LIST_DIR}/convert_fuzz.cpp)
target_link_libraries(convert_fuzz PRIVATE tarvo_render tarvo_warnings)
target_link_options(convert_fuzz PRIVATE -fsanitize=fuzzer)
