#pragma once

// Every data-aware edit control: the text edits (DBEdit, DateMaskEdit, DBMemo), the choices
// (DBCheckBox, DBComboBox, DBLookupComboBox) and the picture (DBImage).

#include "common/controls/dbchoices.h"
#include "common/controls/dbimage.h"
#include "common/controls/dbtextedits.h"
