# Tests of this area are added here.
