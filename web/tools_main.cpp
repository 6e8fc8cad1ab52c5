// The page's one WebAssembly program: d88cut, d88ls, d88conv or d88get,
// whichever argv[0] names, each run as its own command-line program runs.
// The four share the reader and the system layer, which the page thus
// loads once.
// Each tool's main is built under the name called here (cmake/web.cmake).

#include <cstdio>
#include <cstring>

int d88cut_main(int argc, char* argv[]);
int d88ls_main(int argc, char* argv[]);
int d88conv_main(int argc, char* argv[]);
int d88get_main(int argc, char* argv[]);

int main(int argc, char* argv[]) {
  const char* name = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  if (const char* slash = std::strrchr(name, '/')) name = slash + 1;
  if (std::strcmp(name, "d88cut") == 0) return d88cut_main(argc, argv);
  if (std::strcmp(name, "d88ls") == 0) return d88ls_main(argc, argv);
  if (std::strcmp(name, "d88conv") == 0) return d88conv_main(argc, argv);
  if (std::strcmp(name, "d88get") == 0) return d88get_main(argc, argv);
  std::fprintf(stderr, "%s: run as d88cut, d88ls, d88conv or d88get\n", name);
  return 1;
}
