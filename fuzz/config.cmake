# The configuration-file reader: any bytes opened as a file and looked up.
add_executable(config_fuzz ${CMAKE_CURRENT_LIST_DIR}/config_fuzz.cpp)
target_link_libraries(config_fuzz PRIVATE tarvo_config tarvo_warnings)
target_link_options(config_fuzz PRIVATE -fsanitize=fuzzer)
