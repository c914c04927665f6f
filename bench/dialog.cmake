# Go and View CSS in the real dialog, offscreen. Run a Release build:
#   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF
#   cmake --build build/bench --target dialog_bench && build/bench/bench/dialog_bench
if(NOT TARGET tarvo_dialog)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_executable(dialog_bench ${CMAKE_CURRENT_LIST_DIR}/dialog_bench.cpp)
target_link_libraries(dialog_bench PRIVATE tarvo_dialog Qt6::Widgets Qt6::Test benchmark::benchmark tarvo_warnings)
