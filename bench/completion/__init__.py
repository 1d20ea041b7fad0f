"""Helpers of bench/run-completion: an independent term library, korvath's output reader, the
re-checker of completed systems, E runs and the report writer."""
