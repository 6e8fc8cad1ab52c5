// The cost of starting a C++ process, to set d88cut's run time against.
int main() { return 0; }
