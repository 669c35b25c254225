#include "command.h"

int main(int argc, char** argv) { return orvctl::run_cli(argc, argv); }
