# The plug-in's sources compiled for Linux against the link-seam fakes in
# tests/fakes, with the unit tests and every other test of the project.
enable_testing()
add_subdirectory(tests)
