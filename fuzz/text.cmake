tessel_add_fuzzer(fuzz_scenario_lexer scenario_lexer_fuzz.cpp tessel_text)
tessel_add_fuzzer(fuzz_utf8_decode utf8_decode_fuzz.cpp tessel_text)

# The whole engine, for a target that types a story into a message window.
tessel_add_fuzzer(fuzz_scenario_window scenario_window_fuzz.cpp tessel_app)
