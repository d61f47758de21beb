unit A;
{$IFDEF X} { open
