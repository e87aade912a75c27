#ifndef PAVENDA_SUPPORT_EXCEPTIONS_H
#define PAVENDA_SUPPORT_EXCEPTIONS_H

// Whether this build has exceptions. The library builds without them too (WebAssembly's libc++
// has no exception runtime): there allocation failure ends the program, so the handlers that turn
// std::bad_alloc into a status or undo a half-made change have nothing to catch and are left out.
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
#define PAVENDA_HAS_EXCEPTIONS 1
#else
#define PAVENDA_HAS_EXCEPTIONS 0
#endif

#endif
