#pragma once

class TForm1;
class Tform_DB;

// Creates the windows of every module and wires them to the main window's buttons. A button
// name the main window does not have throws (TForm1::wire).
void installModules(TForm1& form1, Tform_DB& dm);
