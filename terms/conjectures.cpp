// Conjecture decision.  (Filled in by the term algorithms work.)
