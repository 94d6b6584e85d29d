#include "../Principale.h"

int main(int argc, char** argv) { return scaricatore::Principale(argc, argv); }
