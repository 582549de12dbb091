// A dialog of the tests' own for the viewer's keyboard behaviour: an edit field, a placeholder
// that the viewer window takes the place of, and a push button with a mnemonic, in that tab
// order; and an accelerator table with Ctrl+O.
#ifndef LUMIVEX_TESTS_KEYBOARD_DIALOG_H
#define LUMIVEX_TESTS_KEYBOARD_DIALOG_H

#define KEYBOARD_EDIT 101
#define KEYBOARD_PLACEHOLDER 27
#define KEYBOARD_APPLY 102
#define KEYBOARD_OPEN 103

#endif
