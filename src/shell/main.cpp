#include "shell/shell.h"

int main(int argc, char** argv) { return Shell::Run(argc, argv); }
