#pragma once

// Watches for what the audio path must never do: counts the heap allocations (malloc, calloc,
// realloc; operator new included) and the distinct mutexes locked between Start and Stop,
// process-wide, a dlopen'ed module's calls included. Natively this library's own definitions of
// those functions stand in for the C library's; under a sanitizer or on Windows they cannot, and
// Available answers false. Start and Stop from the test's thread.

class AudioThreadWatch {
public:
  static bool Available();
  // Clears the counts and starts counting.
  static void Start();
  static void Stop();
  static long Allocations();
  // Distinct mutexes locked; more than the watch can tell apart count as one more.
  static int Mutexes();
};
