unit Tools;

interface

procedure DoIt;

implementation

procedure DoIt;
begin
end;

end.
