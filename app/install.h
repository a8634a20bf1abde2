#pragma once

class TForm1;
class Tform_DB;

// Creates the windows of every module built into the program and wires them to the main
// window's buttons.
void installModules(TForm1& form1, Tform_DB& dm);
