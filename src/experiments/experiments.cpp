// Each experiment lives in a file of its own; this one only gives the library a source when none is built
// yet.
