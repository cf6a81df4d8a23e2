// zentavo: the label program's entry point.
int main() { return 0; }
