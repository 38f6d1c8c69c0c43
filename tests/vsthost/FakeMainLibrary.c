/* A shared library that exports a main that is no plug-in entry point: it
   treats its argument as a C program's argument vector, as such a main
   would, and so crashes when a host passes it a callback. */
int main(int argc, char** argv) {
  return argc + argv[argc][0];
}
