#include "exporter_main.h"

int main(int argc, char** argv) { return orv_exporter::run_exporter(argc, argv); }
