// The live panel makes a host, and so a copy of the module, for each flight
// loaded or sought, on the server's worker threads. When SDL refuses the
// sound device there (no audio driver in the tests), it keeps its error text
// per thread and does not free it when the thread ends: SDL's own, not a
// leak of ours, so the leak checker is told to pass over SDL.
extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2-2.0.so.0\n"; }
