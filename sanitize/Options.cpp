// Default sanitizer options, compiled into every executable of the sanitizer
// build so that the program and each test behave the same however they are
// started. The *_OPTIONS environment variables still override them.

#ifndef DALVERY_LEAK_SUPPRESSIONS
#error "DALVERY_LEAK_SUPPRESSIONS must name the leak suppressions file"
#endif

extern "C" {

const char* __asan_default_options()
{
    // intercept_tls_get_addr=0: with it on, LeakSanitizer walks the dynamic
    // TLS of Mesa's dlopen'ed renderer, reads a garbage block range there and
    // its tracer dies with "Tracer caught signal 11" at exit.
    return "intercept_tls_get_addr=0:detect_stack_use_after_return=1:"
           "check_initialization_order=1:strict_init_order=1";
}

const char* __lsan_default_options()
{
    return "suppressions=" DALVERY_LEAK_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

} // extern "C"
