// Linked with one layer whole and only the layers below it: the build fails
// here when that layer calls upward.
int main() { return 0; }
