// Seals a program or library after linking: writes into its seal the digest
// that its start-up checks (see platform/integrity.h). Sealing again gives
// the same digest.
#include <iostream>
#include <string>

#include "platform/integrity.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: seal FILE\n";
    return 2;
  }
  std::string problem;
  if (!sorrel::SealFile(argv[1], &problem)) {
    std::cerr << "seal: " << problem << "\n";
    return 1;
  }
  return 0;
}
