// Defaults for the sanitizer runtimes of this program (each runtime asks for its own; the others
// are never called). Every report fails the test that caused it: UndefinedBehaviorSanitizer
// would otherwise print and carry on, and ThreadSanitizer would only fail at exit.
// Environment variables (ASAN_OPTIONS and the like) still override these.

#define SKARVEL_SANITIZER_DEFAULTS extern "C" __attribute__((visibility("default"), used)) const char*

SKARVEL_SANITIZER_DEFAULTS __asan_default_options() { return "halt_on_error=1:detect_leaks=1:check_initialization_order=1"; }

SKARVEL_SANITIZER_DEFAULTS __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }

SKARVEL_SANITIZER_DEFAULTS __tsan_default_options() { return "halt_on_error=1:second_deadlock_stack=1"; }
