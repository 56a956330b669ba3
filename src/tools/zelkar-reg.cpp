// DEVELOPMENT SCAFFOLD: replaced when the command-line tool lands.
int main() { return 2; }
