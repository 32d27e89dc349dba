// Entry point of mvexterm; the application proper arrives with its subsystem.
int main() { return 0; }
