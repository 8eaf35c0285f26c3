// fontconfig keeps a small block from its one-time initialisation unreachable for the life of
// the process; that is the library's, not ours, so the leak checker is told to ignore it.
// Linked into every test program (the text painter may run in any of them).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
