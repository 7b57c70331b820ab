#pragma once
class QLineEdit;

// Refuses typed or pasted input that would make the box hold more than
// characters characters, counted as the library's text columns count them:
// a character outside the Basic Multilingual Plane is one. Text put in by
// the program is never cut.
void limitCharacters(QLineEdit *edit, int characters);
