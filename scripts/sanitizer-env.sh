# Sourced by the scripts that run the sanitizer build: the options every program under test
# runs with. The tests' own programs (the crash child, the preferences writer, the app)
# inherit them. The crash capture tests make children die of SIGSEGV, SIGBUS, SIGFPE ... on
# purpose: the child's own handlers, installed after the sanitizer's, must be let in to record
# the crash. Leaks of libraries we do not build are listed in scripts/leak-suppressions.txt.
asan=(halt_on_error=1 detect_leaks=1 allow_user_segv_handler=1 check_initialization_order=1
      detect_stack_use_after_return=1)
ASAN_OPTIONS=$(IFS=:; echo "${asan[*]}")
export ASAN_OPTIONS
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/leak-suppressions.txt:print_suppressions=0"
