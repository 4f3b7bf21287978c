# The native build once more, under AddressSanitizer and UndefinedBehaviorSanitizer
# (make sanitize, build/sanitize): every target below is instrumented, and the
# first fault either finds stops the program with a report, so that a test or
# a fuzz run that meets one fails. -O1 makes the fuzz runs several times faster
# and keeps the reports' stack traces whole.
set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
add_compile_options(${SANITIZE_FLAGS} -O1)
add_link_options(${SANITIZE_FLAGS})
