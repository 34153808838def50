#pragma once

class Picture;
class Printer;
class Prompts;
class QSize;

// The print command: the printer's set-up dialog through prompts (cancel: nothing printed), then
// one page with the picture stretched to sx*width by sy*height dots at the printable area's
// top-left, where sx/sy are the printer's dpi divided by the window's logical dpi in whole numbers;
// the document is always ended once begun.
void printPicture(Prompts &prompts, Printer &printer, const Picture &picture, QSize screenDpi);
