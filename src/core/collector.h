// The script-object collector's entry points that stores of object values
// call: the write barrier and the context stack that names the object
// receiving stores. The collector itself is off until the game data asks for
// it; while it is off the barrier does nothing and the stack stays empty.
#pragma once

class ZQObjectBase;

// Set from the game data's header: script objects are reclaimed by the collector.
extern bool g_fJSGarbageCollection;

// Write barrier: `value` was stored into `holder` (either may be null).
void DeterminePotentialRoot(ZQObjectBase* holder, ZQObjectBase* value);

// The context stack. Push works only while the collector is on (false when
// nothing was pushed); pop never goes below empty; the top is null when the
// stack is empty or the collector is off.
bool PushContextStack(ZQObjectBase* object);
void PopContextStack();
ZQObjectBase* GetContextStackTop();
// Collection off and the context stack freed (tests, and a fresh load).
void Collector_Reset();

// Pushes an object for the scope of a store sequence.
class ContextStackScope {
public:
    explicit ContextStackScope(ZQObjectBase* object) : m_pushed(PushContextStack(object)) {}
    ~ContextStackScope() {
        if (m_pushed) PopContextStack();
    }
    ContextStackScope(const ContextStackScope&) = delete;
    ContextStackScope& operator=(const ContextStackScope&) = delete;

private:
    bool m_pushed;
};
