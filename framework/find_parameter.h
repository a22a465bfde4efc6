// The one search used on a placed gauge's parameter text.
#pragma once

// The first occurrence of key in text, or null. An occurrence counts only if
// it lies before the first "/", the first "#" and the first "'" of text, so
// that everything behind a comment marker is ignored. Callers that scan a
// text repeatedly call again on the text after the last match, and the
// markers are then looked for from there on. An absent text or key finds
// nothing.
const char* findParameter(const char* text, const char* key);
