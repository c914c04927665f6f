# Theme files: any bytes read as one, and whatever reads is written and read back unchanged.
add_executable(themes_fuzz ${CMAKE_CURRENT_LIST_DIR}/themes_fuzz.cpp)
target_link_libraries(themes_fuzz PRIVATE tarvo_themes tarvo_warnings)
target_link_options(themes_fuzz PRIVATE -fsanitize=fuzzer)
