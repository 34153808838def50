#pragma once

class QThreadPool;

// The one thread beside the user-interface thread and the folder watchers: it decodes and
// encodes pictures (the dialogs' previews, the clipboard, saving) on copies it owns, and never
// touches a widget. Its jobs run one at a time, in the order given.
QThreadPool &pictureWorker();
