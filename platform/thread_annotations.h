// Lock rules the compiler checks: attributes that say which mutex guards a field and which mutex
// a function needs, acquires or releases. Clang checks them under -Wthread-safety
// (scripts/thread-safety); under other compilers they expand to nothing.
#pragma once

#if defined(__clang__)
#define KESTREL_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define KESTREL_THREAD_ANNOTATION(x)
#endif

// A type that is a lock (a mutex): CAPABILITY("mutex").
#define CAPABILITY(x) KESTREL_THREAD_ANNOTATION(capability(x))
// A type whose objects hold a lock from construction to destruction (a lock guard).
#define SCOPED_CAPABILITY KESTREL_THREAD_ANNOTATION(scoped_lockable)
// A field read and written only with the lock held.
#define GUARDED_BY(x) KESTREL_THREAD_ANNOTATION(guarded_by(x))
// A pointer whose target is read and written only with the lock held.
#define PT_GUARDED_BY(x) KESTREL_THREAD_ANNOTATION(pt_guarded_by(x))
// A function called only with the lock held.
#define REQUIRES(...) KESTREL_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
// A function called only without the lock held (it takes the lock itself).
#define EXCLUDES(...) KESTREL_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
// A function that takes the lock and returns holding it.
#define ACQUIRE(...) KESTREL_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
// A function that lets go of a lock it was called holding.
#define RELEASE(...) KESTREL_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
// A function that tries to take the lock; its result says whether it did.
#define TRY_ACQUIRE(...) KESTREL_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
// A function that returns a reference to the lock named in its argument.
#define RETURN_CAPABILITY(x) KESTREL_THREAD_ANNOTATION(lock_returned(x))
// A function that checks (at run time, not here) that the lock is held.
#define ASSERT_CAPABILITY(x) KESTREL_THREAD_ANNOTATION(assert_capability(x))
// A function whose locking the analysis cannot follow; say why where it is used.
#define NO_THREAD_SAFETY_ANALYSIS KESTREL_THREAD_ANNOTATION(no_thread_safety_analysis)
