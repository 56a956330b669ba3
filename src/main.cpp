#include "app/modMain.h"

int main(int argc, char** argv) { return zelkar::modMain::Main(argc, argv); }
