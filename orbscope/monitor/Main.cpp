#include "ProgramEntry.h"

int main(int argc, char** argv) { return orbscope::OrbscopeMain(argc, argv); }
