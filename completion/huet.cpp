// Completion engine.  (Filled in by the engine work.)
