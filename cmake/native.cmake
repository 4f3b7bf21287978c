# The plug-in's sources compiled for Linux against the link-seam fakes in
# tests/fakes, with the unit tests and every other test of the project.
enable_testing()

option(MARROWICK_SANITIZE "Build everything under ASan and UBSan" OFF)
if(MARROWICK_SANITIZE)
    include(${CMAKE_SOURCE_DIR}/cmake/sanitize.cmake)
endif()

add_subdirectory(tests)
add_subdirectory(fuzz)
add_subdirectory(bench)
