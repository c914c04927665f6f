# Profile files and profiles.ini: any bytes read, and whatever reads is written and read back, on
# the in-memory disk of the tests (built here too, since fuzz builds leave the tests out).
add_executable(profiles_fuzz ${CMAKE_CURRENT_LIST_DIR}/profiles_fuzz.cpp
                             ${PROJECT_SOURCE_DIR}/files/memory_disk.cpp)
target_link_libraries(profiles_fuzz PRIVATE tarvo_profiles tarvo_warnings)
target_link_options(profiles_fuzz PRIVATE -fsanitize=fuzzer)
