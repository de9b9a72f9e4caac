// The version block of this release, in a section of its own so that the
// About box can find it in the program file (the layout is in
// version_info.h). Linked straight into the program, not through a library,
// so that the linker keeps it although no code refers to it.

// The literals are split after every NUL so that a value beginning with a
// digit is not read as part of an octal escape.
[[gnu::used, gnu::section(".sorrel_version")]] static const char kVersionBlock[] =
    "SORRELVB\0"
    "FileVersion\0"
    "1.5.0.0\0"
    "SpecialBuild\0"
    "beta\0"
    "PrivateBuild\0"
    "2021/04/19\0"
    "LegalCopyright\0"
    "Copyright (C) 2021 FenwrightAns\0"
    "FileDescription\0"
    "Sorrel text file converter\0";
