// A library that does nothing when loaded: the substitute host's own behaviour, with nothing of
// the library's in the way.
extern "C" int vorlixSimNullLibrary() { return 0; }
