# Loading large profiles: a profile file with 1.8 million keywords, a profiles.ini with 800,000
# entries.
add_executable(profiles_bench ${CMAKE_CURRENT_LIST_DIR}/profiles_bench.cpp)
target_link_libraries(profiles_bench PRIVATE tarvo_profiles benchmark::benchmark
                      benchmark::benchmark_main tarvo_warnings)
