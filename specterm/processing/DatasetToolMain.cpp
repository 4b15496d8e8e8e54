// specterm-dataset: see DatasetTool.h.

#include "DatasetTool.h"

#include <iostream>

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return specterm::RunDatasetTool(args, std::cout, std::cerr);
}
