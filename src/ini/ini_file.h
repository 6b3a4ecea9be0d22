#pragma once

// The INI room as the settings store sees it: a settings file kept as the bytes of its lines,
// read and written by section and key, and the codecs of its values and keys.
#include "ini/ini_document.h"
#include "ini/key_codec.h"
#include "ini/value_codec.h"
