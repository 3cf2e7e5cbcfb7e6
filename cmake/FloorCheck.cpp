// Linked with the whole of one floor's library: the link fails when any of its
// code refers to a floor above it.
int main() { return 0; }
