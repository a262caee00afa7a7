/*
 * zktrace: the suite's trace channel.
 *
 * Destination: the file named by the environment variable ZKTRACE_FILE,
 * appended to with one write per line, so that lines of several threads never
 * interleave:
 *   2026-12-05 15:53:27.123 +0100 [4711] Tamrix | Tamrix AD Checker | 6 | message
 * (local time, kernel thread id, product, component, level, message). When
 * ZKTRACE_FILE is unset or empty, each line goes to syslog, facility user,
 * priority debug. ZKTRACE_FILE is read once, at the process's first line; a
 * file that cannot be opened drops lines (opening is retried at most once a
 * second). Lines written before a product is named show it as "-".
 *
 * Both functions may be called from any thread at any time. They take no
 * locks, never block for long (a full log socket or a FIFO without a reader
 * drops the line) and never change errno.
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

/* Names the product written on every later line; null or "" clears it. */
ZKTRACE_API void ZKTraceSetProduct(const char* product);

/* Writes one line: format and arguments in the printf manner. The format's
 * own final line break is dropped; line breaks and control bytes inside the
 * message are escaped (\n, \r, \xNN). A null format writes nothing. */
ZKTRACE_API void ZKTrace(int level, const char* component, const char* format, ...)
    ZKTRACE_PRINTF(3, 4);

#ifdef __cplusplus
}
#endif

#endif /* ZKTRACE_H */
