# The command reference (docs/commands.md) must stay in step with the engine's
# command table; the second test makes sure the checker catches drift.
add_test(NAME docs.command_reference_in_step
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/gen_command_reference.py
          --check --root ${PROJECT_SOURCE_DIR})
add_test(NAME docs.command_reference_checker
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/test_gen_command_reference.py)
