// What the interaction built-ins ask of modules above the library or not
// built yet: the highscore table (io), the gesture
// built-ins, and the platform's dialogs, message window, file panels and
// synthetic keys. Until a module exists its stand-ins answer
// (src/<module>/stand_ins.cpp).
#pragma once

// ---- the highscore table: ten entries numbered 1 to 10
void HighScore_Show(int score);
void HighScore_Clear();
void HighScore_Add(const char* name, int score);
// Entry n's score and name; callers pass only 1 to 10.
int HighScore_Value(int n);
const char* HighScore_Name(int n);
// The display settings (nothing on this platform draws them). Texts are
// copied.
void HighScore_SetBackground(int background);
void HighScore_SetBorder(bool border);
void HighScore_SetColors(int back, int colour1, int colour2);
void HighScore_SetFont(const char* name, int size);
void HighScore_SetStrings(const char* caption, const char* nobody, const char* escape);

// ---- gestures: the built-ins registered last for new-generation data
void AddGestureFunctions();

// ---- the platform's dialogs. Modal ones block until closed; where the
// platform has no such dialog it answers as a cancelled one.
void ShowMessage(const char* text);
// 1 for yes, 0 for no (and for a dialog that could not be shown).
int InputQuery_Question(const char* caption, const char* text);
// A memory-manager copy of the entered text in *out (the caller frees it);
// false, with *out a copy of the default, when cancelled.
bool InputQuery_Input(const char* caption, const char* prompt, const char* defaultText, char** out);
// Asynchronous dialogs: the request id; the answer arrives as an
// asynchronous dialog event.
int InputQuery_ShowMessageASync(const char* caption, const char* text);
int InputQuery_QuestionAsync(const char* caption, const char* text);
int InputQuery_InputAsync(const char* caption, const char* prompt, const char* defaultText);
int InputQuery_LoginASync(const char* userName, const char* password);
// The in-game message window with up to three buttons; 0 when the game is
// not running.
int Message_ShowMessage(const char* text, const char* button1, const char* button2, const char* button3);
void Message_SetBackground(int background);
void Message_SetButtonSprite(int sprite);
// The open and save panels: a memory-manager copy of the chosen path, or null
// when cancelled.
char* ZQGetOpenFileName(const char* filter, const char* name, const char* folder, const char* title);
char* ZQGetSaveFileName(const char* filter, const char* name, const char* folder, const char* title);
// Synthetic key events, seen at the next latch.
void FakeKeyDown(int key);
void FakeKeyUp(int key);
