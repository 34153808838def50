#pragma once

class QTextStream;
struct CommandLine;

// Marks, crops and writes the picture a scripted command line names, with the window's own
// reader, blend, crop and writer, and no window: it needs no display. Answers the exit status:
// 0 when the output is written; 1 when the picture cannot be read or the output written; 2 when
// a rectangle lies wholly outside the picture. A failure writes one line to `errors` and no file.
int runScriptedMark(const CommandLine &line, QTextStream &errors);
