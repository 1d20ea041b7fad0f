// AProVE client.  (Filled in by the termination work.)
