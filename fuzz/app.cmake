# The save reader with every subsystem's section.
tessel_add_fuzzer(fuzz_save_read save_read_fuzz.cpp tessel_app)
