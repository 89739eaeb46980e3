// A real definition landing beside its stand-in: this file defines a function
// the renderer's stand-ins (src/render/stand_ins.cpp) also define. Built into
// one library with them, the duplicate check must refuse it; the test
// "stand_in_defined_twice" builds it and expects exactly that.
void InitBufferVertexFunctions() {}
