/*
 * zktrace: the suite's trace channel.
 *
 * Lines go to the file named by the environment variable ZKTRACE_FILE
 * (appended, one whole line per write, with time stamp, thread id, product,
 * component and level), or to syslog at debug priority when it is not set.
 * Both functions may be called from any thread at any time; they never
 * change errno.
 */
#ifndef ZKTRACE_H
#define ZKTRACE_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZKTRACE_API __attribute__((visibility("default")))
#define ZKTRACE_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define ZKTRACE_API
#define ZKTRACE_PRINTF(f, a)
#endif

/* Names the product written on every later line. */
ZKTRACE_API void ZKTraceSetProduct(const char* product);

/* Writes one line: format and arguments in the printf manner. */
ZKTRACE_API void ZKTrace(int level, const char* component, const char* format, ...)
    ZKTRACE_PRINTF(3, 4);

#ifdef __cplusplus
}
#endif

#endif /* ZKTRACE_H */
